// The one application object of Veyra.exe, which the entry point starts.
#include "shell/query_app.h"

CQueryApp theApp;
