// What showing the busy cursor means on each platform.
#pragma once

// Shows the busy cursor and returns the cursor it replaced (null where there is none).
void* ShowWaitCursor();
void RestoreCursor(void* hCursor);
