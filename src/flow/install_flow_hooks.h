#pragma once
// Installs the flow layer's command tables, arrange application, change-flow body, hit effects and
// item pictures into the objects' seam (cFlowHooks). Called once when the program starts play.
void InstallFlowHooks();
