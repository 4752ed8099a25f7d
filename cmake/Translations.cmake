# SPDX-License-Identifier: GPL-3.0-or-later
# The translation files: each translations/<name>_<lang>.ts belongs to a set
# of source folders. The build compiles it with lrelease; the target
# update_translations runs lupdate over its sources, so a developer who has
# added or changed a text refreshes every .ts file with one command
# (cmake --build --preset asan --target update_translations) and then fills
# in the new entries. The tools are Qt's own (Debian: qt6-l10n-tools).

find_program(VFD_LRELEASE NAMES lrelease lrelease-qt6
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}"
  REQUIRED)
find_program(VFD_LUPDATE NAMES lupdate lupdate-qt6
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}"
  REQUIRED)

if(NOT TARGET update_translations)
  add_custom_target(update_translations)
endif()

# vfd_translation(<ts file> FOLDERS <folders...> [FILES <files...>]
#                 [QM_VARIABLE <variable>])
# Compiles the .ts file into <build>/translations/<name>.qm (appended to the
# variable named by QM_VARIABLE, for a resource) and adds update_<name> to
# update_translations: lupdate over the C++ files of the folders (not their
# subfolders, which belong to others) and the single files given. Texts
# without a place in the sources any more are dropped at once, and
# locations are left out, so the file changes only where a text did.
# The list of sources is also written to <build>/translations/<name>.sources,
# which the translation test runs lupdate on to find texts not yet translated.
function(vfd_translation ts)
  cmake_parse_arguments(T "" "QM_VARIABLE" "FOLDERS;FILES" ${ARGN})
  get_filename_component(name "${ts}" NAME_WE)
  set(out "${CMAKE_BINARY_DIR}/translations")
  set(qm "${out}/${name}.qm")
  add_custom_command(OUTPUT "${qm}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
    COMMAND "${VFD_LRELEASE}" -silent "${ts}" -qm "${qm}"
    DEPENDS "${ts}"
    COMMENT "Compiling ${name}.ts"
    VERBATIM)
  if(T_QM_VARIABLE)
    set(${T_QM_VARIABLE} ${${T_QM_VARIABLE}} "${qm}" PARENT_SCOPE)
  endif()

  set(sources ${T_FILES})
  foreach(folder IN LISTS T_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS "${folder}/*.cpp" "${folder}/*.h")
    list(APPEND sources ${found})
  endforeach()
  list(SORT sources)
  list(JOIN sources "\n" lines)
  file(WRITE "${out}/${name}.sources" "${lines}\n")

  add_custom_target(update_${name}
    COMMAND "${VFD_LUPDATE}" -silent -locations none -no-obsolete "@${out}/${name}.sources" -ts "${ts}"
    COMMENT "Updating ${name}.ts from its sources"
    VERBATIM)
  add_dependencies(update_translations update_${name})
endfunction()
