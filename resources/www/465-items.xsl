<?xml version="1.0" encoding="utf-8"?>
<!-- A module's list on a phone: the query's name with its neighbouring periods, the schemes
     and the conditions the user may pick, one row per record of the page (opening its
     detail), and the pager. Links carry query maps in the "query" parameter; the conditions
     form turns its fields into a query map before it is sent. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:value-of select="@itemtype"/>
    <xsl:if test="@queryname != ''"> - <xsl:value-of select="@queryname"/></xsl:if>
  </xsl:template>

  <!-- The text with every "from" replaced by "to". -->
  <xsl:template name="replace">
    <xsl:param name="text"/>
    <xsl:param name="from"/>
    <xsl:param name="to"/>
    <xsl:choose>
      <xsl:when test="contains($text, $from)">
        <xsl:value-of select="substring-before($text, $from)"/><xsl:value-of select="$to"/>
        <xsl:call-template name="replace">
          <xsl:with-param name="text" select="substring-after($text, $from)"/>
          <xsl:with-param name="from" select="$from"/>
          <xsl:with-param name="to" select="$to"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$text"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A query map as the value of a link's parameter: the characters that would end or
       change the value are encoded; the browser encodes the rest of the address itself. -->
  <xsl:template name="param">
    <xsl:param name="text"/>
    <xsl:variable name="pct">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$text"/><xsl:with-param name="from" select="'%'"/><xsl:with-param name="to" select="'%25'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="amp">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$pct"/><xsl:with-param name="from" select="'&amp;'"/><xsl:with-param name="to" select="'%26'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="hash">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$amp"/><xsl:with-param name="from" select="'#'"/><xsl:with-param name="to" select="'%23'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:call-template name="replace">
      <xsl:with-param name="text" select="$hash"/><xsl:with-param name="from" select="'+'"/><xsl:with-param name="to" select="'%2B'"/>
    </xsl:call-template>
  </xsl:template>

  <!-- The address of the list with another query and page. -->
  <xsl:template name="list-url">
    <xsl:param name="query"/>
    <xsl:param name="page" select="0"/>
    <xsl:text>query?mduid=</xsl:text><xsl:value-of select="/r/@mduid"/>
    <xsl:text>&amp;xsl=items&amp;page=</xsl:text><xsl:value-of select="$page"/>
    <xsl:text>&amp;query=</xsl:text>
    <xsl:call-template name="param"><xsl:with-param name="text" select="$query"/></xsl:call-template>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:choose>
      <xsl:when test="@errid != '100'">
        <p class="error"><xsl:value-of select="@errmsg"/></p>
      </xsl:when>
      <xsl:otherwise>
        <h1><xsl:value-of select="@itemtype"/></h1>
        <p class="hint">
          <xsl:value-of select="@queryinfo"/>
          <xsl:text>：共 </xsl:text><xsl:value-of select="@itemcount"/><xsl:text> </xsl:text>
          <xsl:value-of select="@itemunit"/>
        </p>
        <xsl:if test="@queryprev != '' or @querynext != ''">
          <div class="pager">
            <xsl:if test="@queryprev != ''">
              <a class="button secondary" title="{@queryprevinfo}">
                <xsl:attribute name="href">
                  <xsl:call-template name="list-url"><xsl:with-param name="query" select="@queryprev"/></xsl:call-template>
                </xsl:attribute>
                <xsl:text>‹ 上一期</xsl:text>
              </a>
            </xsl:if>
            <span class="at"><xsl:value-of select="@queryname"/></span>
            <xsl:if test="@querynext != ''">
              <a class="button secondary" title="{@querynextinfo}">
                <xsl:attribute name="href">
                  <xsl:call-template name="list-url"><xsl:with-param name="query" select="@querynext"/></xsl:call-template>
                </xsl:attribute>
                <xsl:text>下一期 ›</xsl:text>
              </a>
            </xsl:if>
          </div>
        </xsl:if>
        <xsl:apply-templates select="querys"/>
        <xsl:apply-templates select="QueryConditions"/>
        <xsl:choose>
          <xsl:when test="item">
            <ul class="list">
              <xsl:apply-templates select="item" mode="row"/>
            </ul>
          </xsl:when>
          <xsl:otherwise>
            <p class="hint">没有符合条件的<xsl:value-of select="@itemtype"/>。</p>
          </xsl:otherwise>
        </xsl:choose>
        <xsl:if test="@pagecount &gt; 1">
          <div class="pager">
            <xsl:if test="@pageindex &gt; 0">
              <a class="button secondary">
                <xsl:attribute name="href">
                  <xsl:call-template name="list-url">
                    <xsl:with-param name="query" select="@query"/>
                    <xsl:with-param name="page" select="@pageindex - 1"/>
                  </xsl:call-template>
                </xsl:attribute>
                <xsl:text>上一页</xsl:text>
              </a>
            </xsl:if>
            <span class="at">
              <xsl:text>第 </xsl:text><xsl:value-of select="@pageindex + 1"/>
              <xsl:text> / </xsl:text><xsl:value-of select="@pagecount"/><xsl:text> 页</xsl:text>
            </span>
            <xsl:if test="@pageindex + 1 &lt; @pagecount">
              <a class="button secondary">
                <xsl:attribute name="href">
                  <xsl:call-template name="list-url">
                    <xsl:with-param name="query" select="@query"/>
                    <xsl:with-param name="page" select="@pageindex + 1"/>
                  </xsl:call-template>
                </xsl:attribute>
                <xsl:text>下一页</xsl:text>
              </a>
            </xsl:if>
          </div>
        </xsl:if>
        <xsl:if test="@canadd = '1'">
          <p><a class="button block" href="addnew?mduid={@mduid}&amp;xsl=editnew">新建<xsl:value-of select="@itemtype"/></a></p>
        </xsl:if>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The schemes: one small button each, the current one filled. -->
  <xsl:template match="querys">
    <xsl:if test="query">
      <div style="display: flex; flex-wrap: wrap; gap: 6px; margin-bottom: 12px">
        <xsl:for-each select="query">
          <a title="{@memo}">
            <xsl:attribute name="class">
              <xsl:text>button small</xsl:text><xsl:if test="@curr != '1'"> secondary</xsl:if>
            </xsl:attribute>
            <xsl:attribute name="href">
              <xsl:call-template name="list-url"><xsl:with-param name="query" select="."/></xsl:call-template>
            </xsl:attribute>
            <xsl:value-of select="@name"/>
          </a>
        </xsl:for-each>
      </div>
    </xsl:if>
  </xsl:template>

  <!-- The conditions as one form; the script writes them into the query map it sends. -->
  <xsl:template match="QueryConditions">
    <xsl:if test="condition[@readonly = '0' and @type != 'QUERY_HIDE']">
      <details>
        <summary>查询条件</summary>
        <form class="form" method="get" action="query" onsubmit="return itemsQuery(this)">
          <input type="hidden" name="mduid" value="{/r/@mduid}"/>
          <input type="hidden" name="xsl" value="items"/>
          <input type="hidden" name="query" value=""/>
          <xsl:apply-templates select="condition[@readonly = '0' and @type != 'QUERY_HIDE']"/>
          <button class="button" type="submit">查询</button>
        </form>
      </details>
      <script>
        function itemsQuery(form) {
          var esc = function (t) {
            return String(t).replace(/&amp;/g, '&amp;amp;').replace(/&lt;/g, '&amp;lt;').replace(/&gt;/g, '&amp;gt;');
          };
          var values = {};
          var fields = form.querySelectorAll('[data-key]');
          for (var i = 0; i &lt; fields.length; i++) {
            var f = fields[i], key = f.getAttribute('data-key');
            if ((f.type === 'checkbox' &amp;&amp; !f.checked) || (f.type !== 'checkbox' &amp;&amp; f.value === '')) continue;
            values[key] = values[key] === undefined ? f.value : values[key] + ',' + f.value;
          }
          var xml = '';
          for (var k in values) xml += '&lt;x id="' + k + '"&gt;' + esc(values[k]) + '&lt;/x&gt;';
          form.elements['query'].value = xml === '' ? '' : '&lt;r&gt;' + xml + '&lt;/r&gt;';
          return true;
        }
      </script>
    </xsl:if>
  </xsl:template>

  <xsl:template match="condition">
    <div class="item">
      <label><xsl:value-of select="@name"/></label>
      <xsl:choose>
        <xsl:when test="@type = 'QUERY_FIND'">
          <input type="search" data-key="{@id}" value="{@val}" maxlength="100"/>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_DATE'">
          <input type="date" data-key="{@id}">
            <xsl:if test="@set = '1'"><xsl:attribute name="value"><xsl:value-of select="@val"/></xsl:attribute></xsl:if>
          </input>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_MONTH'">
          <input type="month" data-key="{@id}">
            <xsl:if test="@set = '1'"><xsl:attribute name="value"><xsl:value-of select="@val"/></xsl:attribute></xsl:if>
          </input>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_OPTION'">
          <xsl:for-each select="option">
            <label>
              <input type="checkbox" data-key="{../@id}" value="{@val}">
                <xsl:if test="@checked = '1'"><xsl:attribute name="checked">checked</xsl:attribute></xsl:if>
              </input>
              <xsl:value-of select="."/>
            </label>
          </xsl:for-each>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_ITEM'">
          <xsl:for-each select="item">
            <label>
              <input type="checkbox" data-key="{../@id}" value="{@itemid}" checked="checked"/>
              <xsl:value-of select="."/>
            </label>
          </xsl:for-each>
          <xsl:if test="not(item)"><span class="hint">全部</span></xsl:if>
        </xsl:when>
      </xsl:choose>
    </div>
  </xsl:template>

  <!-- One record: its title opening the detail, the brief columns beneath. A record is named
       by its query (records generated from a plan have no ID of their own yet). -->
  <xsl:template match="item" mode="row">
    <li class="item">
      <a>
        <xsl:attribute name="href">
          <xsl:text>query?mduid=</xsl:text><xsl:value-of select="@mduid"/>
          <xsl:text>&amp;one=1&amp;xsl=detail&amp;query=</xsl:text>
          <xsl:call-template name="param"><xsl:with-param name="text" select="@query"/></xsl:call-template>
        </xsl:attribute>
        <span>
          <xsl:value-of select="@name"/>
          <xsl:for-each select="col[@colbrief = '1' and @coltitle != '1' and @type != '6' and @dispval != '' and @dispval != @gray]">
            <small><xsl:value-of select="@name"/><xsl:text>：</xsl:text><xsl:value-of select="@dispval"/></small>
          </xsl:for-each>
          <xsl:if test="@alert != ''"><small class="error"><xsl:value-of select="@alert"/></small></xsl:if>
        </span>
      </a>
    </li>
  </xsl:template>
</xsl:stylesheet>
