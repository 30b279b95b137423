<?xml version="1.0" encoding="utf-8"?>
<!-- One record on a phone: its fields of the detail set by group, child lists as small
     tables, and what the user may do with it. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:value-of select="@itemtype"/><xsl:text>：</xsl:text><xsl:value-of select="item[1]/@name"/>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:choose>
      <xsl:when test="@errid != '100'">
        <p class="error"><xsl:value-of select="@errmsg"/></p>
      </xsl:when>
      <xsl:when test="not(item)">
        <p class="error">找不到该<xsl:value-of select="@itemtype"/>，可能已被删除。</p>
      </xsl:when>
      <xsl:otherwise>
        <xsl:apply-templates select="item[1]" mode="detail"/>
        <div class="pager">
          <xsl:if test="@canmdf = '1'">
            <form method="get" action="query" style="flex: 1; display: flex">
              <input type="hidden" name="mduid" value="{@mduid}"/>
              <input type="hidden" name="one" value="1"/>
              <input type="hidden" name="xsl" value="edit"/>
              <input type="hidden" name="query" value="{item[1]/@query}"/>
              <button class="button" type="submit" style="flex: 1">修改</button>
            </form>
          </xsl:if>
          <xsl:if test="@canprt = '1'">
            <button class="button secondary" type="button" id="print" data-mduid="{@mduid}" data-id="{item[1]/@id}">打印</button>
          </xsl:if>
          <a class="button secondary" href="query?mduid={@mduid}&amp;xsl=items">返回列表</a>
        </div>
        <xsl:if test="@canprt = '1'">
          <xsl:call-template name="print"/>
        </xsl:if>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="item" mode="detail">
    <h1><xsl:value-of select="@name"/></h1>
    <xsl:if test="@alert != ''"><p class="error"><xsl:value-of select="@alert"/></p></xsl:if>
    <table class="rec">
      <xsl:for-each select="col[@coldetail = '1']">
        <xsl:variable name="group" select="@group"/>
        <xsl:if test="$group != '' and (position() = 1 or preceding-sibling::col[@coldetail = '1'][1]/@group != $group)">
          <tr><th colspan="2"><xsl:value-of select="$group"/></th></tr>
        </xsl:if>
        <xsl:choose>
          <xsl:when test="@type = '6'">
            <tr><td class="cap" colspan="2"><xsl:value-of select="@name"/></td></tr>
            <tr><td colspan="2"><xsl:call-template name="lines"/></td></tr>
          </xsl:when>
          <xsl:otherwise>
            <tr><td class="cap"><xsl:value-of select="@name"/></td><td><xsl:call-template name="value"/></td></tr>
          </xsl:otherwise>
        </xsl:choose>
      </xsl:for-each>
    </table>
  </xsl:template>

  <xsl:template name="value">
    <xsl:choose>
      <xsl:when test="@dispval = '' or @dispval = @gray">
        <span class="gray"><xsl:value-of select="@gray"/></span>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="@dispval"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A child list: one entry per line (not the blank line the edit form starts from), its
       first field as the entry's title and the others that say something beneath it: a
       phone has no room for a table of ten columns. -->
  <xsl:template name="lines">
    <xsl:variable name="rows" select="item[@pos != '0']"/>
    <xsl:choose>
      <xsl:when test="$rows">
        <ul class="list">
          <xsl:for-each select="$rows">
            <xsl:variable name="cols" select="col[@coldetail = '1']"/>
            <li class="item">
              <div class="line">
                <span>
                  <xsl:value-of select="$cols[1]/@dispval"/>
                  <xsl:for-each select="$cols[position() &gt; 1 and @dispval != '' and @dispval != @gray]">
                    <small><xsl:value-of select="@name"/><xsl:text>：</xsl:text><xsl:value-of select="@dispval"/></small>
                  </xsl:for-each>
                </span>
              </div>
            </li>
          </xsl:for-each>
        </ul>
      </xsl:when>
      <xsl:otherwise><span class="gray">无</span></xsl:otherwise>
    </xsl:choose>
  </xsl:template>
  <!-- Printing on the school's computer: the module's templates and the printers there are
       fetched when the user asks to print; the server asks for a confirmation (113) before
       the job goes out, and the answer shows above the form. -->
  <xsl:template name="print">
    <form class="form" id="printform" hidden="hidden">
      <label for="printtempl">打印模板</label>
      <select id="printtempl" name="templ"></select>
      <label for="printer">打印机</label>
      <select id="printer" name="printer"></select>
      <div class="actions">
        <button class="button" type="submit">开始打印</button>
      </div>
    </form>
    <script>
      (function () {
        var button = document.getElementById('print');
        var form = document.getElementById('printform');
        function choices(url, select, empty) {
          return fetch(url, { credentials: 'same-origin', headers: { 'Accept': 'text/xml' } })
            .then(function (response) { return response.text().then(function (t) { return lvResult(response.status, t); }); })
            .then(function (result) {
              select.innerHTML = '';
              var cols = result.doc ? result.doc.documentElement.getElementsByTagName('col') : [];
              for (var i = 0; i &lt; cols.length; i++) {
                var option = document.createElement('option');
                option.value = select.name === 'templ' ? cols[i].getAttribute('id') : cols[i].textContent;
                option.textContent = cols[i].textContent +
                  (cols[i].getAttribute('mark') ? '（' + cols[i].getAttribute('mark') + '）' : '');
                select.appendChild(option);
              }
              return cols.length ? '' : (result.errid === ERR_OK ? empty : result.errmsg);
            });
        }
        button.addEventListener('click', function () {
          Promise.all([
            choices('seltempl?mduid=' + encodeURIComponent(button.getAttribute('data-mduid')),
                    document.getElementById('printtempl'), '没有可用的打印模板'),
            choices('selprinter', document.getElementById('printer'), '学校电脑上没有可用的打印机')
          ]).then(function (problems) {
            form.hidden = false;
            var problem = problems[0] || problems[1];
            lvShow(problem, form);
            form.querySelector('[type=submit]').disabled = !!problem;
            form.scrollIntoView({ block: 'start' });
          });
        });
        form.addEventListener('submit', function (event) {
          event.preventDefault();
          var fields = { templ: form.templ.value, id: button.getAttribute('data-id'), printer: form.printer.value };
          var submit = form.querySelector('[type=submit]');
          submit.disabled = true;
          lvShow('', form);
          lvPost('print', fields).then(function (result) {
            if (result.errid !== ERR_NeedConfirm || !confirm(result.errmsg)) return result;
            fields.confirmed = 1;
            return lvPost('print', fields);
          }).then(function (result) {
            submit.disabled = false;
            if (result.errid === ERR_NeedConfirm) return;
            lvShow(result.errid === ERR_OK ? '已送到打印机' : result.errmsg, form, result.errid === ERR_OK);
          });
        });
      })();
    </script>
  </xsl:template>
</xsl:stylesheet>
