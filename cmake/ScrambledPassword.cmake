# The database password is stored scrambled; a site sets its own with
#   cmake --preset win32 -DTAVORA_SCRAMBLED_PASSWORD=<value from tavora-scramble>
set(TAVORA_SCRAMBLED_PASSWORD "Uqvlp%5437" CACHE STRING
    "Stored scrambled database password: 10 printable ASCII characters")

string(LENGTH "${TAVORA_SCRAMBLED_PASSWORD}" _len)
if(NOT _len EQUAL 10)
  message(FATAL_ERROR "TAVORA_SCRAMBLED_PASSWORD must be exactly 10 characters, got ${_len}.")
endif()

set(TAVORA_SCRAMBLED_PASSWORD_CODES "")
set(_password "")
foreach(_i RANGE 0 9)
  string(SUBSTRING "${TAVORA_SCRAMBLED_PASSWORD}" ${_i} 1 _ch)
  # string(HEX) gives the byte; anything outside 0x20..0x7e is not printable ASCII.
  string(HEX "${_ch}" _hex)
  math(EXPR _code "0x${_hex}")
  if(_code LESS 32 OR _code GREATER 126)
    message(FATAL_ERROR "TAVORA_SCRAMBLED_PASSWORD must hold printable ASCII only (position ${_i}).")
  endif()
  math(EXPR _shift "(${_i} + 1) % 4")
  if(_shift EQUAL 0)
    set(_shift 4)
  endif()
  math(EXPR _plain "${_code} - ${_shift}")
  if(_plain LESS 32 OR _plain GREATER 126)
    message(FATAL_ERROR
      "TAVORA_SCRAMBLED_PASSWORD descrambles to a non-printable character at position ${_i}; "
      "make the value with tavora-scramble.")
  endif()
  string(ASCII ${_plain} _pch)
  string(APPEND _password "${_pch}")
  list(APPEND TAVORA_SCRAMBLED_PASSWORD_CODES "${_code}")
endforeach()

# The password stands unquoted in the connection string, so it must not end its own value.
string(FIND "${_password}" ";" _semicolon)
if(NOT _semicolon EQUAL -1)
  message(FATAL_ERROR "The password of TAVORA_SCRAMBLED_PASSWORD contains ';', which would end its "
                      "value in the connection string.")
endif()
string(SUBSTRING "${_password}" 0 1 _first)
if(_first STREQUAL "\"" OR _first STREQUAL "'")
  message(FATAL_ERROR "The password of TAVORA_SCRAMBLED_PASSWORD begins with a quotation mark, "
                      "which would change its meaning in the connection string.")
endif()
list(JOIN TAVORA_SCRAMBLED_PASSWORD_CODES ", " TAVORA_SCRAMBLED_PASSWORD_CODES)
set(TAVORA_DB_PASSWORD "${_password}")
