// The entity resolver of every parse: it resolves nothing. The command
// interface ships no document type of its own, so every external entity,
// parameter entity and external document type is refused and the parser
// reports it as a fatal error; nothing is ever read from a file or the
// network.
#pragma once

#include <xercesc/util/XMLEntityResolver.hpp>

class HardenedEntityResolver : public xercesc::XMLEntityResolver {
public:
    xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* resource) override;
};
