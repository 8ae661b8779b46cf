# The rule for a site's database password and its stored (scrambled) form, written once: the
# configure step (ScrambledPassword.cmake) and the helper that makes the stored value
# (scripts/scramble-password, through Scramble.cmake) both use it.
#
# The program restores the password with Descramble: the code of the character at position i
# (from 0) minus 1, 2, 3, 4, 1, 2, ... The password then stands unquoted in the connection
# string, whose reader ends a value at ";", reads a leading quotation mark as quoting, and trims
# blanks around an unquoted value; a password that any of these would change is refused.

# Shift of the character at position INDEX (from 0): 1, 2, 3, 4, 1, 2, ...
function(_tavora_shift index out)
  math(EXPR shift "(${index} + 1) % 4")
  if(shift EQUAL 0)
    set(shift 4)
  endif()
  set(${out} ${shift} PARENT_SCOPE)
endfunction()

# Codes of the characters of TEXT, or a problem when it is not 10 printable ASCII characters.
function(_tavora_codes text what out_codes out_problem)
  set(${out_codes} "" PARENT_SCOPE)
  string(REGEX MATCH "[^ -~]" unprintable "${text}")
  string(LENGTH "${text}" length)
  if(NOT unprintable STREQUAL "")
    set(${out_problem} "${what} must hold printable ASCII only." PARENT_SCOPE)
    return()
  elseif(NOT length EQUAL 10)
    set(${out_problem} "${what} must be exactly 10 characters, got ${length}." PARENT_SCOPE)
    return()
  endif()
  set(codes "")
  foreach(i RANGE 0 9)
    string(SUBSTRING "${text}" ${i} 1 ch)
    string(HEX "${ch}" hex)
    math(EXPR code "0x${hex}")
    list(APPEND codes ${code})
  endforeach()
  set(${out_codes} "${codes}" PARENT_SCOPE)
  set(${out_problem} "" PARENT_SCOPE)
endfunction()

# What the connection string would do to PASSWORD, or "" when it reaches the driver unchanged.
function(_tavora_connection_string_problem password out_problem)
  set(problem "")
  string(FIND "${password}" ";" semicolon)
  string(SUBSTRING "${password}" 0 1 first)
  string(SUBSTRING "${password}" 9 1 last)
  if(NOT semicolon EQUAL -1)
    set(problem "The password contains a semicolon, which would end its value in the connection string.")
  elseif(first STREQUAL "\"" OR first STREQUAL "'")
    set(problem "The password begins with a quotation mark, which would change its meaning in the connection string.")
  elseif(first STREQUAL " " OR last STREQUAL " ")
    set(problem "The password begins or ends with a blank, which the connection string drops: the program would log in with another password.")
  endif()
  set(${out_problem} "${problem}" PARENT_SCOPE)
endfunction()

# The codes shifted by 1, 2, 3, 4, 1, ... in DIRECTION (-1 to descramble, 1 to scramble), as
# text; OUT_POSITION is the first position whose result is not printable ASCII, or "".
function(_tavora_shifted codes direction out_text out_position)
  set(text "")
  set(i 0)
  foreach(code IN LISTS codes)
    _tavora_shift(${i} shift)
    math(EXPR shifted "${code} + ${direction} * ${shift}")
    if(shifted LESS 32 OR shifted GREATER 126)
      set(${out_position} ${i} PARENT_SCOPE)
      return()
    endif()
    string(ASCII ${shifted} ch)
    string(APPEND text "${ch}")
    math(EXPR i "${i} + 1")
  endforeach()
  set(${out_text} "${text}" PARENT_SCOPE)
  set(${out_position} "" PARENT_SCOPE)
endfunction()

# tavora_descramble(STORED OUT_PASSWORD OUT_PROBLEM): the password that a stored value gives, and
# why it cannot be used ("" when it can).
function(tavora_descramble stored out_password out_problem)
  set(${out_password} "" PARENT_SCOPE)
  _tavora_codes("${stored}" "TAVORA_SCRAMBLED_PASSWORD" codes problem)
  if(NOT problem)
    _tavora_shifted("${codes}" -1 password position)
    if(NOT position STREQUAL "")
      set(problem "TAVORA_SCRAMBLED_PASSWORD descrambles to a non-printable character at position ${position}; make the value with scripts/scramble-password.")
    else()
      _tavora_connection_string_problem("${password}" problem)
      set(${out_password} "${password}" PARENT_SCOPE)
    endif()
  endif()
  set(${out_problem} "${problem}" PARENT_SCOPE)
endfunction()

# tavora_scramble(PASSWORD OUT_STORED OUT_PROBLEM): the stored value for a site's password, and
# why the password cannot be used ("" when it can).
function(tavora_scramble password out_stored out_problem)
  set(${out_stored} "" PARENT_SCOPE)
  _tavora_codes("${password}" "The password" codes problem)
  if(NOT problem)
    _tavora_connection_string_problem("${password}" problem)
  endif()
  if(NOT problem)
    _tavora_shifted("${codes}" 1 stored position)
    if(NOT position STREQUAL "")
      set(problem "The password's scrambled form would not be printable ASCII (position ${position}); choose another character there.")
    else()
      set(${out_stored} "${stored}" PARENT_SCOPE)
    endif()
  endif()
  set(${out_problem} "${problem}" PARENT_SCOPE)
endfunction()
