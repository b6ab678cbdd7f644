#include "BannerLink.h"

#include "framework/ProductInfo.h"

CBannerLink::CBannerLink() : CLinkControl(CString(product::kProductPageUrl) + product::kBannerQuery)
{}
