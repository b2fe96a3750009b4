# Where cmake --install puts things.  The native layout is the usual one
# (bin, lib, include).  On Windows the program and eval.dll share the
# installation folder itself, as a program started from there needs its DLL
# beside it; the development files go to include and lib below it.
include(GNUInstallDirs)
if(WIN32)
  set(KURVANA_INSTALL_RUNTIME_DIR .)
else()
  set(KURVANA_INSTALL_RUNTIME_DIR ${CMAKE_INSTALL_BINDIR})
endif()
