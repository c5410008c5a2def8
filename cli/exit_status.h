// The exit statuses of zerb-shift, also documented in its help text.
#ifndef ZERB_CLI_EXIT_STATUS_H
#define ZERB_CLI_EXIT_STATUS_H

namespace zerb {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // some lines refused, the rest computed
inline constexpr int kExitUsage = 2;    // bad command line or unreadable input
inline constexpr int kExitNoPoint = 3;  // no usable point (or no pair), nothing computed
// The fitted parameters cannot be a transformation between two geodetic datums: reports are written
// with the statement, exports are not.
inline constexpr int kExitImplausible = 4;

}  // namespace zerb

#endif  // ZERB_CLI_EXIT_STATUS_H
