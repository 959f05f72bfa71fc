#include "model/editor_link.h"

#include "model/context.h"
#include "model/document.h"

TModelContext &Context()
{
  static TModelContext context;
  return context;
}

TEditorLink *EditorLink()
{
  return Context().Link;
}

void SetModified(TZeltoAni *ani, bool modified)
{
  if (!ani)
    return;
  ani->Modified = modified;
  if (TEditorLink *link = EditorLink())
    link->ModifiedChanged(ani);
}
