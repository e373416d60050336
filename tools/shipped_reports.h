// The invoice templates that go into the shipped database's Reports table: 1 items, 2 services, and 3 and 4.
#pragma once
#include "app/shipped_data.h"
#include <QList>

// The templates, each authored in code through the report model and written as a template stream.
QList<TShippedReport> ShippedReportTemplates();
