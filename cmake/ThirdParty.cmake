# libjpeg-turbo and giflib from Debian's patched sources, which scripts/setup fetched with apt-get source.
# Both are built once per build tree as static libraries; a rebuild does not redo them.
include(ExternalProject)

set(QM_THIRD_PARTY_SRC "${CMAKE_SOURCE_DIR}/build/third_party/src" CACHE PATH "unpacked Debian sources")
file(GLOB _jpeg_dirs LIST_DIRECTORIES true "${QM_THIRD_PARTY_SRC}/libjpeg-turbo-*")
file(GLOB _gif_dirs LIST_DIRECTORIES true "${QM_THIRD_PARTY_SRC}/giflib-*")
list(FILTER _jpeg_dirs EXCLUDE REGEX "\\.(tar|dsc|gz|xz|bz2|asc)")
list(FILTER _gif_dirs EXCLUDE REGEX "\\.(tar|dsc|gz|xz|bz2|asc)")
if(NOT _jpeg_dirs OR NOT _gif_dirs)
  message(FATAL_ERROR "libjpeg-turbo or giflib sources missing in ${QM_THIRD_PARTY_SRC}: run scripts/setup")
endif()
list(GET _jpeg_dirs 0 QM_JPEG_SRC)
list(GET _gif_dirs 0 QM_GIF_SRC)

set(_jpeg_prefix "${CMAKE_BINARY_DIR}/third_party/jpeg")
find_program(QM_NASM nasm)
if(QM_NASM)
  set(_jpeg_simd -DWITH_SIMD=1 -DCMAKE_ASM_NASM_COMPILER=${QM_NASM})
else()
  set(_jpeg_simd -DWITH_SIMD=0)
endif()
ExternalProject_Add(libjpeg_ext
  SOURCE_DIR ${QM_JPEG_SRC}
  BINARY_DIR ${CMAKE_BINARY_DIR}/third_party/jpeg-build
  INSTALL_DIR ${_jpeg_prefix}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF ${_jpeg_simd}
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory <INSTALL_DIR>/include <INSTALL_DIR>/lib
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a <INSTALL_DIR>/lib/libjpeg.a
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/jconfig.h <SOURCE_DIR>/jpeglib.h
            <SOURCE_DIR>/jmorecfg.h <SOURCE_DIR>/jerror.h <INSTALL_DIR>/include
  BUILD_BYPRODUCTS ${_jpeg_prefix}/lib/libjpeg.a
  LOG_CONFIGURE ON LOG_BUILD ON
)
file(MAKE_DIRECTORY ${_jpeg_prefix}/include)
add_library(qm_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(qm_jpeg PROPERTIES IMPORTED_LOCATION ${_jpeg_prefix}/lib/libjpeg.a
                      INTERFACE_INCLUDE_DIRECTORIES ${_jpeg_prefix}/include)
add_dependencies(qm_jpeg libjpeg_ext)

# giflib's decoder: five C files.
add_library(qm_gif STATIC
  ${QM_GIF_SRC}/dgif_lib.c ${QM_GIF_SRC}/gifalloc.c ${QM_GIF_SRC}/gif_err.c
  ${QM_GIF_SRC}/gif_hash.c ${QM_GIF_SRC}/openbsd-reallocarray.c)
target_include_directories(qm_gif PUBLIC ${QM_GIF_SRC})
set_target_properties(qm_gif PROPERTIES C_STANDARD 99 C_EXTENSIONS ON)
