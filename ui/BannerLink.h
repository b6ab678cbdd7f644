#pragma once
// A picture that opens the product page when it is clicked, under the
// pointing-hand cursor.

#include "LinkControl.h"

class CBannerLink : public CLinkControl
{
    Q_OBJECT

public:
    CBannerLink();
    ~CBannerLink() override = default;
};
