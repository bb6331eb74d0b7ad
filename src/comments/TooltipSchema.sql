-- The comment table. Read by the build to create the empty store beside the program
-- and by the tests to create their own stores, so both always agree on the layout.
CREATE TABLE tblTooltip (Path TEXT, Tooltip TEXT);
CREATE INDEX idxTooltipPath ON tblTooltip (Path);
-- The identity of each commented image's file (device, inode, size, modification time),
-- so a comment finds its image again after another program renamed it.
CREATE TABLE tblIdentity (Path TEXT PRIMARY KEY, Device INTEGER, Inode INTEGER, Size INTEGER, MTimeNs INTEGER);
CREATE INDEX idxIdentityInode ON tblIdentity (Inode);
