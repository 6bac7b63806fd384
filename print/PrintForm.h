#pragma once

#include "document/PaymentOrder.h"

// QR_blank as the print run sees it: the copies count it holds and the two ways
// of producing its pages. The real one uses Qt's preview and printer; tests record.
class PrintForm
{
public:
    virtual ~PrintForm() = default;

    int copies() const { return m_copies; }
    void setCopies(int copies) { m_copies = copies; }

    // Shows one page per document in the preview and waits until it is closed;
    // printing from it gives copies() of every page.
    virtual void preview(const QVector<PaymentOrder> &documents) = 0;
    // Prints copies() of every page straight to the printer.
    virtual void print(const QVector<PaymentOrder> &documents) = 0;

private:
    int m_copies = 1;
};
