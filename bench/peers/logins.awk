# The same records as the Korvane template reads: three fields and a
# separator line that ends the record.
{ sub(/\r$/, "") }
/^URL: /      { url = $2; next }
/^User: /     { user = $2; next }
/^Password: / { password = $2; next }
/^-----$/     { print url "\t" user "\t" password }
