// Puts the report engine's windows in charge: the report component then runs its long work behind the
// progress window and shows its pages in the preview window. The application calls this at start-up; until
// then (and in tests that do not) the report works without windows.
#pragma once
void frInstallReportWindows();
// Goes back to working without windows.
void frUninstallReportWindows();
