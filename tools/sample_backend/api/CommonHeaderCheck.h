#pragma once

// The common header fields the client sends with every request of its shared manager, as the back end
// checks them: the fixed values ("app_name", "protocol_version", "model", "channel") must equal the
// catalogue's; "version" reads "v" and a dotted version; "imei" is 40 lower-case hexadecimal digits;
// "platform" reads "ios_<model>_<system version>"; "screensize" reads "<width>*<height>"; "network" is
// present and not empty.
// Thread-safe: a pure function.

#include <optional>
#include <string>

#include "sample_backend/api/ApiRequest.h"
#include "sample_backend/api/SampleCatalogue.h"

namespace sample_backend::api {

// Returns what is wrong with the request's common headers ("missing header imei", "header version is
// \"1.0\""), or std::nullopt when they are all as they should be.
std::optional<std::string> findCommonHeaderFault(const ApiRequest& request,
                                                 const CatalogueApplication& application);

}  // namespace sample_backend::api
