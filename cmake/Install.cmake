# Installing the game (cmake --install BUILD [--prefix DIR]): the executable and its network component together in
# libexec/kestrovar (the component is loaded from beside the executable), a launcher in bin that runs the game in
# the player's data folder, and the desktop entry and icon where desktops look for them.
include(GNUInstallDirs)

set(KESTROVAR_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/kestrovar")
install(TARGETS kestrovar RUNTIME DESTINATION "${KESTROVAR_GAME_DIR}")
if(TARGET kestrovar_net)
  install(TARGETS kestrovar_net LIBRARY DESTINATION "${KESTROVAR_GAME_DIR}")
endif()

# The launcher finds the game by its own place, so the installed tree can be moved whole.
file(RELATIVE_PATH KESTROVAR_LAUNCHER_TO_GAME "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KESTROVAR_GAME_DIR}")
configure_file("${PROJECT_SOURCE_DIR}/install/kestrovar-launcher.sh.in" "${PROJECT_BINARY_DIR}/kestrovar-launcher.sh"
  @ONLY)
install(PROGRAMS "${PROJECT_BINARY_DIR}/kestrovar-launcher.sh" DESTINATION "${CMAKE_INSTALL_BINDIR}" RENAME kestrovar)

set(KESTROVAR_ICON_DIR "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps")
install(FILES "${PROJECT_SOURCE_DIR}/install/kestrovar.png" DESTINATION "${KESTROVAR_ICON_DIR}")

# The desktop entry names the launcher and the icon by their installed paths: the prefix is known only when the
# install runs (--prefix may change it), so the entry is written then.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(entry \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/kestrovar.desktop\")
  message(STATUS \"Installing: \${entry}\")
  file(WRITE \"\${entry}\" \"[Desktop Entry]
Type=Application
Name=Kestrovar
GenericName=Arcade shooter
Comment=Shoot the rings open and hit the cannon inside, in glowing neon lines
Exec=\${prefix}/${CMAKE_INSTALL_BINDIR}/kestrovar
Icon=\${prefix}/${KESTROVAR_ICON_DIR}/kestrovar.png
Terminal=false
Categories=Game;ArcadeGame;
\")
")
