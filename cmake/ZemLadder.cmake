# The core's folders form a ladder: each rung builds into its own static library, which links the rung
# below it and compiles against the headers of its own rung and the rungs below, and no others. An
# include that runs up the ladder therefore fails the build with "No such file or directory".
#
# The headers are shown to each rung through a tree of links in the build folder
# (ladder/<rung>/<folder>/<header> -> src/<folder>/<header>), one tree per rung. The front ends, the tests,
# the benchmarks and the fuzz targets sit above the whole core and include from src/ directly.

# Bottom to top, then the hub; then the folders that use the hub but that the hub does not use.
set(ZEM_LADDER base persistence images model view platform transport editing address)
set(ZEM_LADDER_ABOVE_HUB import)

# The hub: TZemMap's header, the files that define its members, and every core file that uses TZemMap
# (they and the member files call each other, so they cannot sit below it). These are the one exception
# to the ladder: the hub's files sit in the folders of their subsystems but build as the top rung, zemhub,
# and may include any folder. A new core file that uses TZemMap belongs in this list.
set(ZEM_HUB_FILES
  # The hub's header and the files that define TZemMap's members.
  model/ZemMap.h
  model/ZemMap.cpp
  model/ZemSettings.h
  persistence/ZemMapFile.cpp
  persistence/ZemTextExport.cpp
  view/ZemFlashColours.cpp
  view/ZemFlashColours.h
  view/ZemMiniMap.cpp
  view/ZemMiniMap.h
  view/ZemPaintersNetwork.cpp
  view/ZemPaintersOverlays.cpp
  view/ZemPaintersShapes.cpp
  view/ZemRender.cpp
  view/ZemViewport.cpp
  view/ZemVisibleList.cpp
  editing/ZemBlink.cpp
  editing/ZemBlink.h
  editing/ZemCreate.cpp
  editing/ZemHistory.cpp
  editing/ZemHistory.h
  editing/ZemHitTest.cpp
  editing/ZemKeyboard.cpp
  editing/ZemLibraryCommands.cpp
  editing/ZemObjectCommands.cpp
  editing/ZemObjectEdit.cpp
  editing/ZemPointer.cpp
  transport/ZemNetwork.cpp
  transport/ZemNetworkDisplay.cpp
  transport/ZemNetworkEdit.cpp
  address/ZemAddress.cpp
  address/ZemAddress.h
  # Files that use TZemMap.
  persistence/ZemAutosave.cpp
  persistence/ZemAutosave.h
  view/ZemBackgroundImage.cpp
  view/ZemBackgroundImage.h
  view/ZemPageCompose.cpp
  view/ZemPageCompose.h
  view/ZemPaintersUtil.h
  view/ZemViewFit.cpp
  view/ZemViewFit.h
  editing/ZemHistoryPack.cpp
  editing/ZemHistoryState.cpp
  editing/ZemQuietDrawing.h
  editing/ZemTools.h
  editing/ZemToolSelect.cpp
  editing/ZemToolRegistry.cpp
  editing/ZemToolRegistry.h
  editing/ZemToolsCreate.cpp
  editing/ZemToolsView.cpp
  transport/ZemGraphFromMap.cpp
  transport/ZemGraphFromMap.h
  transport/ZemRouteAnswer.cpp
  transport/ZemRouteAnswer.h
  address/ZemDirectories.cpp
  address/ZemDirectories.h
  address/ZemObjectSearch.cpp
  address/ZemObjectSearch.h)

set(ZEM_LADDER_DIR ${CMAKE_BINARY_DIR}/ladder)
# Made afresh each time, so that a header that changed rungs is no longer seen from the old one.
file(REMOVE_RECURSE ${ZEM_LADDER_DIR})

# zem_ladder_rung(rung sources headers below): the rung's library, linked over the rung below (if any).
function(zem_ladder_rung rung sources headers below)
  foreach(header IN LISTS headers)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/src ${header})
    get_filename_component(dir ${ZEM_LADDER_DIR}/${rung}/${rel} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${header} ${ZEM_LADDER_DIR}/${rung}/${rel} SYMBOLIC)
  endforeach()
  add_library(zem${rung} STATIC ${sources})
  target_include_directories(zem${rung} PUBLIC ${ZEM_LADDER_DIR}/${rung})
  if(below)
    target_link_libraries(zem${rung} PUBLIC zem${below})
  endif()
  zem_warnings(zem${rung})
endfunction()

list(TRANSFORM ZEM_HUB_FILES PREPEND ${CMAKE_SOURCE_DIR}/src/ OUTPUT_VARIABLE zem_hub_paths)
foreach(path IN LISTS zem_hub_paths)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "ZEM_HUB_FILES names a file that does not exist: ${path}")
  endif()
endforeach()
set(zem_below "")
macro(zem_ladder_folder rung)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${rung}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${rung}/*.h)
  list(REMOVE_ITEM sources ${zem_hub_paths})
  list(REMOVE_ITEM headers ${zem_hub_paths})
  zem_ladder_rung(${rung} "${sources}" "${headers}" "${zem_below}")
  set(zem_below ${rung})
endmacro()
foreach(rung IN LISTS ZEM_LADDER)
  zem_ladder_folder(${rung})
endforeach()

set(zem_hub_sources ${zem_hub_paths})
list(FILTER zem_hub_sources INCLUDE REGEX "\\.cpp$")
set(zem_hub_headers ${zem_hub_paths})
list(FILTER zem_hub_headers INCLUDE REGEX "\\.h$")
zem_ladder_rung(hub "${zem_hub_sources}" "${zem_hub_headers}" ${zem_below})
set(zem_below hub)

foreach(rung IN LISTS ZEM_LADDER_ABOVE_HUB)
  zem_ladder_folder(${rung})
endforeach()
# The top rung's library: it brings all the others.
set(ZEM_LADDER_TOP zem${zem_below})
