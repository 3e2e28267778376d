#pragma once
// Given to every C++ source ahead of its first line. The standard library declares std::string's
// members instantiated in itself, in one object that brings all two hundred of them (some 30 KiB)
// into an exe that calls any one, since the linker cannot drop a function whose unwind entry it
// keeps. The library's own switch for this, set as its assertion mode sets it, lets each source
// instantiate only the members it uses; nothing else changes.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
