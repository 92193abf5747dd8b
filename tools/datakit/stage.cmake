# Stages a build into a folder the program runs in (its base directory):
# the build's data folder, the program, its shared libraries and plug-ins.
# Included by the stage.cmake that the build writes, which sets
#   KGI_STAGE_DATA_DIR       the build's data folder
#   KGI_STAGE_PROGRAM_FILES  the program, libraries and plug-ins
# and run as   cmake -DKGI_STAGE_DEST=<folder> -P <build>/stage.cmake
#
# The staged program finds its libraries beside itself through the run
# path the build gives it ($ORIGIN), so it runs without any environment.
#
# Files the program writes are the user's: they are copied only when
# absent, so settings and work survive staging again. Every other file is
# refreshed when it differs from the build's. Nothing is ever deleted.

cmake_minimum_required(VERSION 3.25)

if(NOT KGI_STAGE_DEST)
  message(FATAL_ERROR "usage: cmake -DKGI_STAGE_DEST=<folder> -P stage.cmake")
endif()
if(NOT IS_DIRECTORY "${KGI_STAGE_DATA_DIR}")
  message(FATAL_ERROR "no data folder at ${KGI_STAGE_DATA_DIR}: build the target run_kit first")
endif()

# Paths below the base directory that the program writes: the settings, the
# model folder, where the user's motions, poses, media and projects go, the
# remote-control entries and their list, and the joint tab's motor names.
set(KGI_STAGE_USER_FILES "^settings/settings\\.txt$" "^DORUZAVO_1/" "^DORUZAVO_1base/remocon/"
    "^DORUZAVO_1base/character/motNames\\.txt$")

# Copies src over dst when dst is missing or differs, through a temporary
# file renamed into place, so a program still running from the folder keeps
# its open file and never sees half a copy.
function(kgi_stage_file src dst)
  if(EXISTS "${dst}")
    file(SHA256 "${src}" _new)
    file(SHA256 "${dst}" _old)
    if(_new STREQUAL _old)
      return()
    endif()
  endif()
  get_filename_component(_dir "${dst}" DIRECTORY)
  file(MAKE_DIRECTORY "${_dir}")
  file(COPY_FILE "${src}" "${dst}.staging" RESULT _failed)
  if(_failed)
    message(FATAL_ERROR "cannot copy ${src}: ${_failed}")
  endif()
  file(RENAME "${dst}.staging" "${dst}" RESULT _failed)
  if(_failed)
    file(REMOVE "${dst}.staging")
    message(FATAL_ERROR "cannot replace ${dst}: ${_failed}")
  endif()
endfunction()

file(MAKE_DIRECTORY "${KGI_STAGE_DEST}")

foreach(f IN LISTS KGI_STAGE_PROGRAM_FILES)
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "${f} is missing: build the target run_kit first")
  endif()
  get_filename_component(_name "${f}" NAME)
  kgi_stage_file("${f}" "${KGI_STAGE_DEST}/${_name}")
endforeach()

file(GLOB_RECURSE _entries LIST_DIRECTORIES true RELATIVE "${KGI_STAGE_DATA_DIR}"
     "${KGI_STAGE_DATA_DIR}/*")
list(SORT _entries)
foreach(rel IN LISTS _entries)
  set(_src "${KGI_STAGE_DATA_DIR}/${rel}")
  set(_dst "${KGI_STAGE_DEST}/${rel}")
  if(IS_DIRECTORY "${_src}")
    # Empty folders count too: the file dialogs start in them.
    file(MAKE_DIRECTORY "${_dst}")
    continue()
  endif()
  set(_user FALSE)
  foreach(pattern IN LISTS KGI_STAGE_USER_FILES)
    if(rel MATCHES "${pattern}")
      set(_user TRUE)
    endif()
  endforeach()
  if(_user AND EXISTS "${_dst}")
    continue()
  endif()
  kgi_stage_file("${_src}" "${_dst}")
endforeach()
