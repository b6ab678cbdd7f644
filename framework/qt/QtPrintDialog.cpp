#include "QtPrintDialog.h"

#include "QtPrintDevice.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

std::unique_ptr<IPrintDevice> CQtPrintDialog::Run()
{
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setFromTo(1, 1);
    QPrintDialog dialog(pPrinter.get(), QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return std::make_unique<CQtPrintDevice>(std::move(pPrinter));
}
