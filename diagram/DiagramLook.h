#pragma once
// The look-and-feel settings the diagram painter uses, read from the
// settings store once at the start of every pass (never cached across
// passes), so that a changed setting shows at the next repaint while a pass
// over thousands of shapes does not look each key up per shape.

#include "settings/Color.h"
#include "settings/SettingsStore.h"

namespace lumetra {

struct DiagramLook {
  bool shadows = true;
  bool elementNames = true;
  bool attributes = true;
  bool methods = true;
  bool relationNames = false;
  bool associations = true;
  bool generalizations = true;
  bool dependencies = true;
  bool comments = false;  // notes are drawn
  bool typesAndVisibility = false;  // feature lines in UML notation
  float shadowSize = 0.0f;
  float textSpacing = 0.0f;
  float arrowSize = 0.0f;
  float arrowAngle = 0.0f;  // radians
  float multiplicityDistance = 0.0f;
  float relationWidth = 0.0f;
  float commentNoteFraction = 3.0f;  // a note's shorter side over its fold's
  Color shadowColor;
  Color selectColor;
  // What a shape whose appearance is the factory's default is drawn with.
  int fontSize = 10;
  Color boxColor{1.0f, 1.0f, 1.0f, 0.0f};
  Color lineColor;

  static DiagramLook read() {
    SettingsStore& s = settings();
    DiagramLook look;
    look.shadows = s.getBool("Visualizer.General.Shadows");
    look.elementNames = s.getBool("Visualizer.General.ElementNames");
    look.attributes = s.getBool("Visualizer.General.Attributes");
    look.methods = s.getBool("Visualizer.General.Methods");
    look.relationNames = s.getBool("Visualizer.General.RelationNames");
    look.associations = s.getBool("Visualizer.General.Associations");
    look.generalizations = s.getBool("Visualizer.General.Generalizations");
    look.dependencies = s.getBool("Visualizer.General.Dependencies");
    look.comments = s.getBool("Visualizer.General.Comments");
    look.typesAndVisibility = s.getBool("Visualizer.General.TypesAndVisibility");
    look.commentNoteFraction = s.getFloat("Visualizer.UMLModel.CommentNoteFraction");
    look.shadowSize = s.getFloat("Visualizer.UMLModel.ShadowSize");
    look.textSpacing = s.getFloat("Visualizer.UMLModel.TextSpacing");
    look.arrowSize = s.getFloat("Visualizer.UMLModel.ArrowSize");
    look.arrowAngle = s.getFloat("Visualizer.UMLModel.ArrowAngle");
    look.multiplicityDistance = s.getFloat("Visualizer.UMLModel.MultiplicityDistance");
    look.relationWidth = s.getFloat("Visualizer.General.RelationWidth");
    look.shadowColor = s.getColor("Visualizer.UMLModel.ShadowColor");
    look.selectColor = s.getColor("Visualizer.General.SelectColor");
    look.fontSize = static_cast<int>(s.getFloat("Visualizer.UMLModel.FontSize") + 0.5f);
    look.boxColor = s.getColor("Visualizer.UMLModel.BoxColor");
    look.lineColor = s.getColor("Visualizer.UMLModel.LineColor");
    return look;
  }
};

}  // namespace lumetra
