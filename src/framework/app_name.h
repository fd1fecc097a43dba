// The application's name: the caption of the boxes that a dialog owns and that
// carry no caption of their own.
#pragma once

inline const char* applicationName() { return "velmorin"; }
