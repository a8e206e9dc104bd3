// The end-to-end test driver: launch the program, find and drive its windows, read and answer
// its message boxes, wait on conditions, save pictures, start its tools. Include this one header.
#pragma once

#include "tests/driver/controls.h"
#include "tests/driver/main_window.h"
#include "tests/driver/message_boxes.h"
#include "tests/driver/pictures.h"
#include "tests/driver/program.h"
#include "tests/driver/wait.h"
#if PANELCAST_HAVE_EMU_CONTROL
#include "tests/driver/panel_session.h"
#endif
