// The Windows headers every part of the sample servers needs. The build
// defines WIN32_LEAN_AND_MEAN, which keeps OLE out of <windows.h>.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
