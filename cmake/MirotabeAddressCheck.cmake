# Whether an address of the author may go into the program and its package.
# Users are sent to the home page and write to the e-mail address, so a
# placeholder must never reach them: a host of the names set aside for
# examples and tests (example.com, .example, .invalid, .test, localhost) is
# refused, and so is anything that is no web address or no e-mail address.
# Empty is allowed: the build then names no address at all.
#
# As a script, for the tests:
#   cmake -DKIND=homepage|email -DADDRESS=... -P MirotabeAddressCheck.cmake
# fails with the problem, or prints "taken".

# Sets `out` to what is wrong with `address`, a `kind` of address
# (homepage or email), or to "" when nothing is.
function(mirotabe_address_problem kind address out)
  set(problem "")
  string(TOLOWER "${address}" lowered)
  if(lowered STREQUAL "")
    # No address: nothing names one.
  elseif(kind STREQUAL "homepage")
    string(REGEX REPLACE "^https?://([^/?#]*@)?([^/:?#]*).*$" "\\2" host "${lowered}")
    if(host STREQUAL lowered OR host STREQUAL "")
      set(problem "'${address}' is no web address (https://...)")
    endif()
  elseif(kind STREQUAL "email")
    string(REGEX REPLACE "^[^@<> ]+@([^@<> ]+)$" "\\1" host "${lowered}")
    if(host STREQUAL lowered)
      set(problem "'${address}' is no e-mail address (name@host)")
    endif()
  else()
    message(FATAL_ERROR "no kind of address '${kind}'")
  endif()
  if(NOT lowered STREQUAL "" AND NOT problem
     AND host MATCHES "(^|\\.)(example\\.(com|net|org)|example|invalid|test|localhost)$")
    set(problem "'${address}' is a placeholder, and users must not be sent there: give the real one, or none")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  mirotabe_address_problem("${KIND}" "${ADDRESS}" problem)
  if(problem)
    message(FATAL_ERROR "${problem}")
  endif()
  message("taken")
endif()
