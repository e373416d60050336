// Invoice numbers. A new invoice takes one more than the larger of the counter CONTROL.LastINV and the
// highest number a stored invoice has, so that no two invoices share a number even when the counter has
// fallen behind the stored invoices.
#pragma once

// The highest InvNUM in MINV1, 0 when no invoice is stored. Read through a cursor of its own, so that
// MINV1's position, index and range stay as they are.
double HighestInvoiceNumber();

// The number the next invoice gets (at most the largest int).
int NextInvoiceNumber();
