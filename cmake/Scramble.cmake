# The helper behind scripts/scramble-password, with the configure step's own rule:
#   TAVORA_PASSWORD=<password> cmake -P cmake/Scramble.cmake   prints the stored value
#   TAVORA_STORED=<value> cmake -P cmake/Scramble.cmake        prints the password it gives
# The input comes through the environment, which keeps every blank (-D drops trailing ones). It
# writes the result, or "refused: " and the reason, and a line break to standard output.
include(${CMAKE_CURRENT_LIST_DIR}/PasswordRule.cmake)

if(DEFINED ENV{TAVORA_PASSWORD})
  tavora_scramble("$ENV{TAVORA_PASSWORD}" _result _problem)
elseif(DEFINED ENV{TAVORA_STORED})
  tavora_descramble("$ENV{TAVORA_STORED}" _result _problem)
else()
  message(FATAL_ERROR "set TAVORA_PASSWORD or TAVORA_STORED")
endif()
if(_problem)
  set(_result "refused: ${_problem}")
endif()
file(APPEND /dev/stdout "${_result}\n")
