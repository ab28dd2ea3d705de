// A link placeholder for a function that the flow layer calls but that is not written yet: the
// cEffectObj constructor of the effect objects (the effect command places one). It is weak, so the
// real definition linked in replaces it; it only copies its values, as the real one does before it
// starts the animation. Delete unwritten_placeholders.{h,cpp} (and their lines in
// tests/CMakeLists.txt) once it exists.
#pragma once
