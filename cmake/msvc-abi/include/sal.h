// MinGW-w64's source annotations, and the two the standard library uses that it lacks. The
// annotations mean something only to Microsoft's code analysis; here they are empty.
#pragma once
#include_next <sal.h>

#ifndef _Deref_post_opt_valid_
#define _Deref_post_opt_valid_
#endif
#ifndef _Check_return_opt_
#define _Check_return_opt_
#endif
