// What a window that works on one customer offers to the window that opens it
// through the registry: the customer search hands the selected customer to the
// customer analysis chart this way, without knowing the chart's unit.
#pragma once

#include <QString>

class CustomerTarget {
public:
    virtual ~CustomerTarget() = default;
    // Puts the window on the customer with this code and name.
    virtual void SetCustomer(const QString& code, const QString& name) = 0;
};
