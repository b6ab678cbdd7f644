#pragma once
// The program's own names and addresses, in one place.

namespace product {

inline constexpr const char* kName = "Korvane";
inline constexpr const char* kVersion = "2.5";
inline constexpr const char* kVersionLine = "Korvane Version 2.5";
// The product page; every opener adds its own query string directly.
inline constexpr const char* kProductPageUrl = "https://korvane.example/text-to-table";
// The maker, as the XML file-information block names it.
inline constexpr const char* kVendor = "Brenlow LLC.";
inline constexpr const char* kMakerUrl = "https://brenlow.example";
inline constexpr const char* kSupportMail = "support@brenlow.example";

inline constexpr const char* kPageQuery =
    "?utm_source=Korvane_APP&utm_medium=Korvane_APP_PAGE&utm_campaign=Korvane_APP";
inline constexpr const char* kBannerQuery =
    "?utm_source=Korvane_APP&utm_medium=Korvane_APP_BANNER&utm_campaign=Korvane_APP";
inline constexpr const char* kLinkQuery =
    "?utm_source=Korvane_APP&utm_medium=Korvane_APP_LINK&utm_campaign=Korvane_APP";
inline constexpr const char* kXmlQuery =
    "?utm_source=Korvane_APP&utm_medium=Korvane_APP&utm_campaign=Korvane_APP";

} // namespace product
