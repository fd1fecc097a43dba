// Identifiers of the program's embedded resources.
#pragma once

#define IDR_DESCRIPTOR 455
