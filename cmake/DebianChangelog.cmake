# The package's changelog, usr/share/doc/tickvane/changelog.gz, in the Debian format, made from
# the version, TICKVANE_RELEASE_DATE (CHANGELOG.md) and TICKVANE_MAINTAINER. The package has no
# Debian revision (it is its own upstream), so Debian names the file changelog.gz.

# The date as RFC 5322 wants it, "Tue, 08 Dec 2026 00:00:00 +0000"; the weekday by Sakamoto's
# method, as CMake has no calendar.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" date_parts "${TICKVANE_RELEASE_DATE}")
math(EXPR release_year "${CMAKE_MATCH_1}")
math(EXPR release_month "${CMAKE_MATCH_2}")
set(release_day "${CMAKE_MATCH_3}")
set(year_for_weekday ${release_year})
if(release_month LESS 3)
  math(EXPR year_for_weekday "${release_year} - 1")
endif()
math(EXPR month_index "${release_month} - 1")
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET month_offsets ${month_index} month_offset)
math(EXPR weekday_index "(${year_for_weekday} + ${year_for_weekday} / 4 - ${year_for_weekday} / 100 \
+ ${year_for_weekday} / 400 + ${month_offset} + ${release_day}) % 7")
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET weekdays ${weekday_index} weekday)
list(GET months ${month_index} month)

# The trailer line needs an address in angle brackets. Until the project has one the
# maintainer stands with empty brackets rather than an invented address, and the package tells
# lintian so; the Maintainer field's malformed-contact stays visible as the reminder.
set(changelog_maintainer "${TICKVANE_MAINTAINER}")
if(NOT changelog_maintainer MATCHES "<.+>$")
  string(APPEND changelog_maintainer " <>")
  set(lintian_overrides ${CMAKE_BINARY_DIR}/dist/lintian-overrides)
  file(WRITE ${lintian_overrides}
       "# No mail address yet (TICKVANE_MAINTAINER); the changelog's trailer has empty brackets.\n"
       "tickvane: bogus-mail-host-in-debian-changelog\n")
  install(FILES ${lintian_overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME tickvane)
endif()

set(debian_changelog ${CMAKE_BINARY_DIR}/dist/changelog)
file(WRITE ${debian_changelog}
     "tickvane (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * Release ${PROJECT_VERSION}; the changes are listed in the project's CHANGELOG.md.\n\n"
     " -- ${changelog_maintainer}  ${weekday}, ${release_day} ${month} ${release_year} 00:00:00 +0000\n")
tickvane_gzip(${debian_changelog})
install(FILES ${debian_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
