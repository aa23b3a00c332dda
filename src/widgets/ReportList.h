#pragma once

class QTreeWidget;

// A list of rows in columns under a fixed header: whole rows are selected, nothing is edited in
// place and the header does not sort.
QTreeWidget* ReportList(const char* name);
