# orvel_json: an interface target for the header-only JSON library that Debian installs under
# /usr/include/nlohmann. A mingw-w64 build must not see /usr/include as a whole (the host's C
# library headers would shadow the cross compiler's), so at configure time we make a private
# include folder in the build tree that holds only a link to (or, where links are impossible, a
# copy of) the nlohmann folder, and point the target there.
include_guard(GLOBAL)

set(ORVEL_NLOHMANN_DIR "/usr/include/nlohmann" CACHE PATH "Folder that holds nlohmann/json.hpp")

if(NOT TARGET orvel_json)
  if(NOT EXISTS "${ORVEL_NLOHMANN_DIR}/json.hpp")
    message(FATAL_ERROR "nlohmann/json.hpp not found in ${ORVEL_NLOHMANN_DIR} (install nlohmann-json3-dev)")
  endif()
  set(_orvel_json_include "${CMAKE_BINARY_DIR}/orvel_json/include")
  if(NOT EXISTS "${_orvel_json_include}/nlohmann/json.hpp")
    file(MAKE_DIRECTORY "${_orvel_json_include}")
    file(CREATE_LINK "${ORVEL_NLOHMANN_DIR}" "${_orvel_json_include}/nlohmann" SYMBOLIC RESULT _orvel_json_link)
    if(NOT _orvel_json_link EQUAL 0)
      file(COPY "${ORVEL_NLOHMANN_DIR}/" DESTINATION "${_orvel_json_include}/nlohmann")
    endif()
  endif()
  add_library(orvel_json INTERFACE)
  target_include_directories(orvel_json SYSTEM INTERFACE "${_orvel_json_include}")
endif()
