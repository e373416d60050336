// The pictures of the calendar's buttons and the date edit's button, drawn by code and registered as bitmap
// resources under their names ("ORLEFTARROW", "ORRIGHTARROW", "ORLEFTARROWS", "ORRIGHTARROWS", "ORREVERT",
// "ORTODAY", "ORBTNCAL"). Safe to call more than once.
#pragma once
void RegisterCalendarGlyphs();
