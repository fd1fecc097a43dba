// Identifiers of the program's embedded resources.
#pragma once

#define IDD_MAIN 102
#define IDD_MODE 135
#define IDD_LICENCE 136
#define IDD_RESCUE 140  // the rescue setup program's window

// Pictures of the progress control's row states.
#define IDB_STATE_TICK 129
#define IDB_STATE_QUESTION 130
#define IDB_STATE_DOTS 131
#define IDB_STATE_WARNING 132
#define IDB_STATE_CROSS 133
#define IDB_STATE_DISK 134

#define IDI_VELMORIN 137

#define IDR_DESCRIPTOR 455
#define IDR_LICENCE 456
#define IDR_NOTICE 457
#define IDR_RESCUE_SETUP 458
#define IDR_PUBLISHER_KEY 459  // only in installers built with a publisher key
