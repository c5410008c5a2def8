# The release facts that the Debian package, the AppStream metadata and the manual pages share,
# read from one place each so that they cannot disagree:
#   packaging/changelog  the Debian revision, the maintainer and the release date of the newest
#                        entry, whose upstream part must be the CMake project version;
#   this file            the project's home page and the reverse-DNS application id built from it.
# Sets ZERB_APP_ID, ZERB_HOMEPAGE_URL, ZERB_DEBIAN_VERSION, ZERB_DEBIAN_REVISION, ZERB_MAINTAINER
# and ZERB_RELEASE_DATE (YYYY-MM-DD) in the scope that includes it.

# The home page is a placeholder under the domain reserved for examples until the project has a
# public address; the application id is its reverse-DNS form, as AppStream and freedesktop.org's
# desktop entry rules ask, and names the desktop entry and the AppStream file.
set(ZERB_HOMEPAGE_URL "https://zerb.example.org/")
set(ZERB_APP_ID "org.example.zerb")

set(zerb_changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                             ${zerb_changelog})
file(STRINGS ${zerb_changelog} zerb_changelog_lines ENCODING UTF-8)

# The newest entry opens the file: "zerb (UPSTREAM-REVISION) DISTRIBUTION; urgency=..." ...
list(GET zerb_changelog_lines 0 zerb_head)
if(NOT zerb_head MATCHES "^zerb \\(([^)-]+)-([^)]+)\\) ")
  message(FATAL_ERROR "packaging/changelog: the first line must read \"zerb (VERSION-REVISION) ...\", "
                      "found \"${zerb_head}\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: the newest entry is for ${CMAKE_MATCH_1}, the project "
                      "version is ${PROJECT_VERSION}; add an entry for the new version")
endif()
set(ZERB_DEBIAN_REVISION ${CMAKE_MATCH_2})
set(ZERB_DEBIAN_VERSION ${PROJECT_VERSION}-${ZERB_DEBIAN_REVISION})

set(zerb_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(zerb_month -1)
# ... and its first trailer line " -- NAME <EMAIL>  Day, DD Mon YYYY HH:MM:SS +ZZZZ" closes it.
foreach(zerb_line IN LISTS zerb_changelog_lines)
  if(zerb_line MATCHES "^ -- (.+ <[^>]+>)  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(ZERB_MAINTAINER ${CMAKE_MATCH_1})
    set(zerb_day ${CMAKE_MATCH_2})
    set(zerb_year ${CMAKE_MATCH_4})
    list(FIND zerb_months ${CMAKE_MATCH_3} zerb_month)
    break()
  endif()
endforeach()
if(NOT ZERB_MAINTAINER OR zerb_month LESS 0)
  message(FATAL_ERROR "packaging/changelog: the newest entry has no trailer line "
                      "\" -- NAME <EMAIL>  Day, DD Mon YYYY HH:MM:SS +ZZZZ\"")
endif()
math(EXPR zerb_month "${zerb_month} + 1")
if(zerb_month LESS 10)
  set(zerb_month 0${zerb_month})
endif()
set(ZERB_RELEASE_DATE ${zerb_year}-${zerb_month}-${zerb_day})
