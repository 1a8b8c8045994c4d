# Run by "cmake --install": the sample data becomes the System folder beside the
# program only where no System folder is there yet.
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/System")
if(EXISTS "${target}")
    message(STATUS "Keeping the existing data folder ${target}")
else()
    message(STATUS "Installing the sample data as ${target}")
    file(COPY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/sample-data/System" DESTINATION "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
endif()
