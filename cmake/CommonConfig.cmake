# One interface target carries the language level, warnings and Qt defines;
# every library and program links it.
option(DW_WERROR "Treat compiler warnings as errors" OFF)

add_library(dw_common INTERFACE)
target_compile_features(dw_common INTERFACE cxx_std_20)
set_target_properties(dw_common PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)
target_compile_definitions(dw_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH
    DW_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    DW_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    DW_VERSION_REVISION=${PROJECT_VERSION_PATCH})
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(dw_common INTERFACE -Wall -Wextra -Wpedantic)
    if(DW_WERROR)
        target_compile_options(dw_common INTERFACE -Werror)
    endif()
endif()
