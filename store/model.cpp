// The data model.
