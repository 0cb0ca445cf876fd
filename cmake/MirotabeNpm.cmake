# The npm packages of the browser's edition and of its tests are installed
# by scripts/install-deps.sh (npm ci from the committed lockfile) into the
# source tree, beside their package.json. Configuring and building use them
# as they are and never reach a registry; this only checks that they were
# installed from the lockfile that is there now.

# Sets `out` to the stamp file that changes whenever the packages of
# `folder` are installed anew; stops with what to run when they are missing
# or were installed from another lockfile.
function(mirotabe_npm_packages folder out)
  set(lock ${folder}/package-lock.json)
  set(stamp ${folder}/node_modules/.mirotabe-lockfile-sha256)
  file(SHA256 ${lock} wanted)
  set(installed "")
  if(EXISTS ${stamp})
    file(READ ${stamp} installed)
    string(STRIP "${installed}" installed)
  endif()
  if(NOT installed STREQUAL wanted)
    file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${folder})
    message(FATAL_ERROR "The npm packages of ${shown}/ are missing or were installed from another "
                        "package-lock.json: run scripts/install-deps.sh (it runs npm ci there), "
                        "then configure again.")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lock} ${stamp})
  set(${out} ${stamp} PARENT_SCOPE)
endfunction()
