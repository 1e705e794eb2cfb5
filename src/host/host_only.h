// Included by every header of the substitute host. The module is built with
// DRAVOLIN_MODULE_BUILD defined and may reach the host only through src/sdk.
#pragma once
#ifdef DRAVOLIN_MODULE_BUILD
#error "module code must use the SDK interface (src/sdk), not the host's internals"
#endif
