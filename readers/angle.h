// Parsing of the WGS-84 latitude and longitude as typed in a CSV cell or an option, into the
// whole degrees, whole minutes and seconds the dialog's form holds.
//
// Accepted forms: 30:32:21.14, "30 32 21.14", 30°32′21.14″ (also with ' and "), 30d32m21.14s
// and decimal degrees (30.539206, optionally with °). A leading minus or a trailing S or W
// (N or E for the positive side) makes the whole angle negative. Decimal degrees are converted
// to degrees, minutes and seconds in decimal arithmetic on the typed digits, which is exact: the
// seconds are the decimal number a user would type into the dialog for the same angle, so both
// routes read the same double. The degrees and minutes are whole numbers; minutes 0 to 59,
// seconds 0 up to 60, and the whole angle at most 90 (latitude) or 180 (longitude) degrees.
// Full-width characters from a Chinese input method (digits, point, colon, signs, letters) read
// as their ASCII forms, as in the dialog's fields.
//
// A bare number (no colon, blank or mark after it) is ambiguous: decimal degrees, or the dd.mmss
// form of Chinese survey software and controllers, where 39.54444420 is 39 degrees 54 minutes
// 44.4420 seconds. The angle format decides: auto and degrees read decimal degrees, dd.mmss reads
// the digits after the point as two of minutes, two of whole seconds and the seconds' fraction
// (39.5 is 39 degrees 50 minutes), exactly as typed, minutes and seconds below 60; dms refuses a
// bare number, degrees refuses the forms with minutes. Forms with minutes read the same in auto,
// dms and dd.mmss, since they say what they are.
#ifndef ZERB_READERS_ANGLE_H
#define ZERB_READERS_ANGLE_H

#include <string>
#include <string_view>

#include "text/text.h"

namespace zerb {

enum class AngleAxis { kLatitude, kLongitude };

enum class AngleFormat { kAuto, kDms, kDegrees, kDdMmss };

// "auto", "dms", "degrees" or "dd.mmss".
Reason ParseAngleFormat(std::string_view text, AngleFormat* format);

// A parsed angle: its sign and its unsigned degrees, minutes and seconds.
struct Angle {
  bool negative = false;
  int deg = 0;
  int min = 0;
  double sec = 0;
  bool bare_number = false;  // typed as a bare number (read as decimal degrees or dd.mmss)
};

Reason ParseAngle(std::string_view text, AngleAxis axis, AngleFormat format, Angle* angle);

// The angle a bare number read as decimal degrees would be if its digits were dd.mmss, in
// decimal degrees; NaN when they cannot be (minutes or seconds of 60 or more). For the hint that
// names the form, not for computing: it works on the binary value, good to about 1e-9 degree.
double AsDdMmss(const Angle& decimal_degrees);

// The angle in decimal degrees, for range checks only (the shift uses the form's values).
double Degrees(const Angle& angle);

// The form's int degrees, int minutes and double seconds for a parsed angle, chosen so that
// DmsToRadians gives the same bits as for the same degrees, minutes and seconds typed into the
// dialog. The form's sign lives in its degrees, and DmsToRadians makes a negative-degree angle
// the exact negation of its positive twin; an angle below one degree cannot carry its sign in
// an int 0, so its minutes and seconds are negated instead, which in IEEE arithmetic also
// yields the exact negation (every product and sum is rounded symmetrically).
struct FormDms {
  int deg;
  int min;
  double sec;
};
FormDms ToFormDms(const Angle& angle);

}  // namespace zerb

#endif  // ZERB_READERS_ANGLE_H
