// The one application object of Veyra.exe, which the entry point starts.
#include "app/win32/query_app.h"

CQueryApp theApp;
