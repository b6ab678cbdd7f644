#pragma once
// The print dialog on QPrintDialog: the user picks a printer (or a file);
// OK hands out a device that prints there.

#include "framework/PrintDevice.h"

class CQtPrintDialog final : public IPrintDialog
{
public:
    // The page fields (from, to, lowest, highest) all start at 1; what the
    // user picks for pages, copies and collation is kept on the printer.
    std::unique_ptr<IPrintDevice> Run() override;
};
