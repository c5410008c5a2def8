// The README's six example points as one table, shared by the tests of every front end: GP04
// carries a 0.7 m blunder in its northing, the others fit to below a millimetre.
#ifndef ZERB_TESTS_README_POINTS_H
#define ZERB_TESTS_README_POINTS_H

namespace zerb::test {

inline constexpr const char* kReadmePoints =
    "name,x,y,h,B,L,H\n"
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP04,4443360.124,39530367.371,114.734,40:07:24.4416,117:21:24.4404,75.030\n"
    "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n";

}  // namespace zerb::test

#endif  // ZERB_TESTS_README_POINTS_H
