-- The comment table. Read by the build to create the empty store beside the program
-- and by the tests to create their own stores, so both always agree on the layout.
CREATE TABLE tblTooltip (Path TEXT, Tooltip TEXT);
CREATE INDEX idxTooltipPath ON tblTooltip (Path);
