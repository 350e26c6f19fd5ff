# Checks that a Windows program needs no DLL beside it: every DLL it imports
# is part of Windows, and the media commands come from winmm.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P SystemDllsOnly.cmake
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(TOLOWER "${headers}" headers)
string(REGEX MATCHALL "dll name: [^\n]+" imports "${headers}")
set(system kernel32.dll user32.dll gdi32.dll winmm.dll msvcrt.dll shell32.dll advapi32.dll
           opengl32.dll ole32.dll)
foreach(import IN LISTS imports)
  string(REPLACE "dll name: " "" dll "${import}")
  string(STRIP "${dll}" dll)
  if(NOT dll IN_LIST system)
    message(FATAL_ERROR "${PROGRAM} needs ${dll}, which Windows does not have")
  endif()
endforeach()
if(NOT headers MATCHES "dll name: winmm\\.dll" OR NOT headers MATCHES "mcisendstringa")
  message(FATAL_ERROR "${PROGRAM} does not import mciSendStringA from winmm.dll")
endif()
message(STATUS "imports: ${imports}")
