// The expense report (rpReport1): its fixed template, built in code, over
// the data set rpDBDataset1. The main window prints through it and
// pelmora-tool prepares it; both build it here so that they print the same.
#pragma once

class TrpDBDataset;
class TrpReport;

// Fills an empty report with the template: options, the pages "Data" and
// "Page1", the title, column titles, one data band over DataSet and the page
// footer with the page total, the page number and the footer picture.
// DataSet gets the user name "rpDBDataset1" and becomes the report's one
// data set; where it reads its rows (a table or a data source) is the
// caller's to set. The report refers to DataSet, which must outlive it.
void BuildExpenseReport(TrpReport& Report, TrpDBDataset& DataSet);
