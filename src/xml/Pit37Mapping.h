#pragma once
// PIT-37 with its attachments PIT/O, PIT/D, PIT-2K and ORD-ZU.
#include "xml/DeclarationExport.h"

const DeclarationMapping& Pit37Mapping();
