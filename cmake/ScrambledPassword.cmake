# The database password is stored scrambled; a site sets its own with
#   cmake --preset win32 -DTAVORA_SCRAMBLED_PASSWORD=<value from scripts/scramble-password>
include(${CMAKE_CURRENT_LIST_DIR}/PasswordRule.cmake)

set(TAVORA_SCRAMBLED_PASSWORD "Uqvlp%5437" CACHE STRING
    "Stored scrambled database password: 10 printable ASCII characters")

tavora_descramble("${TAVORA_SCRAMBLED_PASSWORD}" TAVORA_DB_PASSWORD _problem)
if(_problem)
  message(FATAL_ERROR "${_problem}")
endif()

# The generated header holds the stored value as codes, so that no character needs escaping.
set(TAVORA_SCRAMBLED_PASSWORD_CODES "")
foreach(_i RANGE 0 9)
  string(SUBSTRING "${TAVORA_SCRAMBLED_PASSWORD}" ${_i} 1 _ch)
  string(HEX "${_ch}" _hex)
  math(EXPR _code "0x${_hex}")
  list(APPEND TAVORA_SCRAMBLED_PASSWORD_CODES "${_code}")
endforeach()
list(JOIN TAVORA_SCRAMBLED_PASSWORD_CODES ", " TAVORA_SCRAMBLED_PASSWORD_CODES)
