#pragma once
// Everything of the in-memory model in one include.

#include "model/Diagram.h"
#include "model/Element.h"
#include "model/ModelFactory.h"
#include "model/ModelVisitor.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "model/VisualElementLayout.h"
