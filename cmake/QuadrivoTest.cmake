# quadrivo_add_test(NAME SOURCES file... LIBS target... [GUI])
# Builds one QtTest executable and registers it with CTest. Every test runs
# on the offscreen platform, so none needs a display; GUI tests also get the
# message-box catcher and the window scene.
function(quadrivo_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    qt_add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF MACOSX_BUNDLE OFF)
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE quadrivo_testsupport_windows)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} quadrivo_testsupport Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false"
        TIMEOUT 300)
endfunction()
