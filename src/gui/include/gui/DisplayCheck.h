#pragma once

namespace kestrix {

// Qt ends the process with abort() when no platform plugin starts, as on a
// machine without a display. Between these two calls, around the building
// of the application object, that end becomes one line on stderr and exit
// status 1, and the platform's own complaints on the way there are dropped.
void BeginDisplayCheck();
void EndDisplayCheck();

}  // namespace kestrix
