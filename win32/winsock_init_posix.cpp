#include "win32/winsock_init.h"

// Sockets need no start-up here.
CWinsockInit::CWinsockInit() = default;

CWinsockInit::~CWinsockInit() = default;
