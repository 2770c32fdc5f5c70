# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): gives the files
# in the package, and the package's own members, the date of the source rather
# than the time of the build, so that the same source makes the same package
# whenever it is built.
#
# CPack dates everything SOURCE_DATE_EPOCH when it is set, and a packager's
# value is kept. Otherwise the date is the last commit's time, or, from a copy
# without git, the date of the changelog's latest entry: the date
# dpkg-buildpackage would choose. A git checkout that holds the source folder
# but is not it says nothing about this source, so it is not asked.

if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  return()
endif()

set(_source_dir "${CPACK_ROLVANGER_SOURCE_DIR}")
set(_date "")
execute_process(
  COMMAND git -C "${_source_dir}" rev-parse --show-toplevel
  OUTPUT_VARIABLE _top
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE _failed
  ERROR_QUIET)
file(REAL_PATH "${_source_dir}" _source_real)
if(NOT _failed AND _top STREQUAL _source_real)
  execute_process(
    COMMAND git -C "${_source_dir}" log -1 --format=%ct
    OUTPUT_VARIABLE _date
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE _failed)
  set(_from "the last commit")
else()
  execute_process(
    COMMAND dpkg-parsechangelog -l "${_source_dir}/packaging/changelog" -S Timestamp
    OUTPUT_VARIABLE _date
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE _failed)
  set(_from "the changelog")
endif()
if(_failed OR NOT _date MATCHES "^[0-9]+$")
  message(FATAL_ERROR "No date for the package's files from ${_from} in ${_source_dir}")
endif()
set(ENV{SOURCE_DATE_EPOCH} "${_date}")
string(TIMESTAMP _shown "%Y-%m-%d %H:%M:%S UTC" UTC)
message(STATUS "The package's files are dated ${_shown}, from ${_from}")
