// The leak check's suppressions of a fuzz target (included by the one file that defines the target). Only the
// toolkit's own caches, which live until the process ends and are freed by no one, are left out:
//   libfontconfig  the font configuration Qt reads once, with the fonts it found;
//   libQt6Gui      Qt's font cache (FreeType faces, font engines), kept per thread: the targets' application
//                  is a static object, destroyed after the cache's storage, so the cache is never freed. Its
//                  allocations are made inside Qt's GUI module, whose internal functions have no names in
//                  the stack.
#pragma once

extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\nleak:libQt6Gui.so\n"; }
