// zerb-shift --save FILE: the definition zerb-convert takes, written beside whatever --format
// prints, and FILE.area, the rectangle of the grid positions of the points in the final fit
// (points/convert_checks.h says why the area travels in a file of its own). The definition is
// the --format chosen when that is crs-wkt2, crs-projjson or pipeline; else crs-wkt2 for three
// and seven parameters and the pipeline for the plane model.
#ifndef ZERB_WRITERS_SAVED_DEFINITION_H
#define ZERB_WRITERS_SAVED_DEFINITION_H

#include <string>

#include "points/convert_checks.h"
#include "writers/report.h"

namespace zerb {

// The form --save writes for a run whose output format is printed.
Format SavedForm(Format printed, bool plane);

// The rectangle of the grid positions of the points in the final fit, eastings as the definition
// takes them; no points in it when there is no fit.
GridArea DefinitionArea(const ReportInput& report);

// Writes both files; the reason names the file that could not be written, or says why the
// definition could not be made. report.points must keep the grid positions (gather with
// grid_positions) for three and seven parameters.
Reason SaveDefinition(const ReportInput& report, const std::string& path);

}  // namespace zerb

#endif  // ZERB_WRITERS_SAVED_DEFINITION_H
