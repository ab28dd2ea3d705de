#pragma once
// Removals that stage drawing makes: a defeated character whose display is over, a message window
// that has finished, a picture whose time ran out. In a play frame they happen at once. While a modal
// wait's nested loop draws the stage, the game thread is blocked inside a flow command, in the middle
// of a logic sub-step, and may hold positions in these very lists (the character whose flow waits,
// the picture a picture command waits on); there the removal is only marked, the element stays in its
// list and draws nothing, and the play loop carries the removals out at the next sub-step boundary.
#include <cstdint>
#include <list>

struct DDSURFACEDATA;
class cChara;
class cFlowStage;
class cMesWindow;
class cScreenPicture;

// True while a nested wait loop runs frames (set by the modal waits around the waiting thread).
bool RemovalsDeferred();

// Marks the time while a nested wait loop runs (nests).
class cDeferRemovals {
 public:
  cDeferRemovals();
  ~cDeferRemovals();
  cDeferRemovals(const cDeferRemovals&) = delete;
  cDeferRemovals& operator=(const cDeferRemovals&) = delete;
};

// A defeated character of g_CharaList whose display is over: removed quietly at once, or marked. The
// position after it either way.
std::list<cChara>::iterator RemoveDrawnChara(std::list<cChara>::iterator pos);
// A message window of the stage that reported it has finished: its text surface released and the
// window destroyed at once, or marked (it then stays finished and draws nothing). The next position.
std::list<cMesWindow>::iterator RemoveFinishedMesWindow(cFlowStage& stage, std::list<cMesWindow>::iterator pos);
// A picture of the stage whose time ran out, with its surface (the parallel entry of the stage's
// picture surfaces): both removed at once, or the picture marked (it then stays expired and draws
// nothing; the surface stays). The next picture position; the caller steps its surface position
// before the call.
std::list<cScreenPicture>::iterator RemoveExpiredPicture(cFlowStage& stage, std::list<cScreenPicture>::iterator pos,
                                                         DDSURFACEDATA* surface);

// Carries out the marked removals (on the game thread, between two sub-steps, no wait running). An
// element that is gone already (a command removed it after its wait) is passed over.
void FlushDeferredRemovals(cFlowStage& stage);
// Forgets the marks without removing anything: stage set-up, which rebuilds every list.
void ForgetDeferredRemovals();
// Marks waiting to be carried out.
int CountDeferredRemovals();
