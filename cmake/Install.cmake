# Installing (cmake --install BUILD [--prefix DIR] [--component game|scores]), in two components that the Debian
# packages take whole (tools/package.sh):
# - game: the executable and its network component together in libexec/kestrovar (the component is loaded from
#   beside the executable), a launcher in bin that runs the game in the player's data folder, the replay tool, the
#   desktop entry, the icon, the manual page and the machine's commented score-server file;
# - scores: the score server in sbin and its replay checker in libexec/kestrovar-scores (the server finds it there by
#   the path from its own folder), the systemd unit, a manual page and the nginx site as
#   an example.
include(GNUInstallDirs)

if(TARGET kestrovar)
  set(KESTROVAR_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/kestrovar")
  install(TARGETS kestrovar RUNTIME DESTINATION "${KESTROVAR_GAME_DIR}" COMPONENT game)
  install(TARGETS kestrovar_net LIBRARY DESTINATION "${KESTROVAR_GAME_DIR}" NAMELINK_SKIP COMPONENT game)
  install(TARGETS kestrovar_replay RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT game)

  # The launcher finds the game by its own place, so the installed tree can be moved whole.
  file(RELATIVE_PATH KESTROVAR_LAUNCHER_TO_GAME "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KESTROVAR_GAME_DIR}")
  configure_file("${PROJECT_SOURCE_DIR}/install/kestrovar-launcher.sh.in" "${PROJECT_BINARY_DIR}/kestrovar-launcher.sh"
    @ONLY)
  install(PROGRAMS "${PROJECT_BINARY_DIR}/kestrovar-launcher.sh" DESTINATION "${CMAKE_INSTALL_BINDIR}"
    RENAME kestrovar COMPONENT game)

  set(KESTROVAR_ICON_DIR "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps")
  install(FILES "${PROJECT_SOURCE_DIR}/install/kestrovar.png" DESTINATION "${KESTROVAR_ICON_DIR}" COMPONENT game)
  install(FILES "${PROJECT_SOURCE_DIR}/install/kestrovar.6" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6" COMPONENT game)
  # The machine's choice of score server, read when the player has named none (netlib/ServerChoice.cpp); under
  # the prefix's etc/xdg, which is /etc/xdg for the packages.
  install(FILES "${PROJECT_SOURCE_DIR}/install/score-server.conf"
    DESTINATION "${CMAKE_INSTALL_SYSCONFDIR}/xdg/kestrovar" COMPONENT game)

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
Keywords=shooter;arcade;vector;
\")
  " COMPONENT game)
endif()

if(TARGET kestrovar-scores)
  install(TARGETS kestrovar-scores RUNTIME DESTINATION "${CMAKE_INSTALL_SBINDIR}" COMPONENT scores)
  # Where the server looks for it (server/CMakeLists.txt): an install without the checker refuses every upload.
  install(TARGETS kestrovar-verify RUNTIME DESTINATION "${CMAKE_INSTALL_LIBEXECDIR}/kestrovar-scores"
    COMPONENT scores)
  install(FILES "${PROJECT_SOURCE_DIR}/install/kestrovar-scores.8" DESTINATION "${CMAKE_INSTALL_MANDIR}/man8"
    COMPONENT scores)
  install(FILES "${PROJECT_SOURCE_DIR}/server/deploy/kestrovar-scores.nginx"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kestrovar-scores/examples" COMPONENT scores)
  # The unit names the server by its installed path, known only when the install runs; systemd reads units from
  # the prefix's lib/systemd/system (/usr/local/lib/systemd/system for a hand install).
  install(CODE "
    set(unit \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system/kestrovar-scores.service\")
    message(STATUS \"Installing: \${unit}\")
    file(READ \"${PROJECT_SOURCE_DIR}/server/deploy/kestrovar-scores.service\" text)
    string(REGEX REPLACE \"ExecStart=[^ \\n]*kestrovar-scores\"
      \"ExecStart=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_SBINDIR}/kestrovar-scores\" text \"\${text}\")
    file(WRITE \"\${unit}\" \"\${text}\")
  " COMPONENT scores)
endif()
